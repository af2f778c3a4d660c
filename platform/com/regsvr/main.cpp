#include <iostream>

#include "platform/com/regsvr/RegSvr.h"

int main(int argc, char** argv)
{
    try {
        return regsvr::Run({argv + 1, argv + argc}, std::cout, std::cerr);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return regsvr::kCallFailed;
    }
}
