// An add-in library for the framework's tests: the test add-in class for Outlook under the
// ProgID "TrovantaTest.LibraryAddIn", with the four entry points of an add-in library.

#include "addin_framework/axpComServer.h"
#include "addin_framework/axpFactory.h"
#include "tests/addin_framework/TestAddIn.h"

namespace {

constexpr CLSID kLibraryAddInClsid = MakeGuid("{6A1C0342-7E3B-4C55-9A0E-0B4D2F6E1342}");

TaxpComServer& ComServer()
{
    static TaxpComServer server("TrovantaTest");
    return server;
}

TaxpFactory& AddInFactory()
{
    static TaxpFactory factory(ComServer(), AddInClassOf<TTestAddIn>("LibraryAddIn"), kLibraryAddInClsid,
                               MakeHostSet({hiOutlook}), "Library Test Add-in", "An add-in library for tests",
                               3, false, false);
    return factory;
}

// The factory exists from the moment the library is loaded.
const bool factoryCreated = (AddInFactory(), true);

}  // namespace

TROVANTA_ADDIN_SERVER_ENTRY_POINTS(ComServer)
