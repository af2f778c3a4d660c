#include "addin_framework/axpErrors.h"

#include <fmt/format.h>

void RaiseHostNotSupported(const std::string& FriendlyName)
{
    throw EaxpError(
        axpErrHostNotSupported,
        fmt::format("Add-in {} initialization is failed. This Add-in doesn't support this application.",
                    FriendlyName));
}

void RaiseCommandBarNotFound(const std::string& Caption, const std::string& BarName)
{
    throw EaxpError(axpErrCommandBarNotFound,
                    fmt::format("Control {} initialization is failed. Can not find the {} Command Bar.",
                                Caption, BarName));
}

void RaiseIllegalBarName(const std::string& Name)
{
    throw EaxpError(axpErrIllegalBarName, fmt::format("Illegal character in the {} commandbar name.", Name));
}

void RaiseUnregisterControls()
{
    throw EaxpError(axpErrUnregisterControls, "Can't unregister add-in controls.");
}

void RaiseMapPoint()
{
    throw EaxpError(axpErrMapPoint, "Cannot add a control to MS MapPoint.");
}

void RaiseRegistrationCanceled()
{
    throw EaxpError(axpErrRegistrationCanceled, "The registration process has been canceled.");
}
