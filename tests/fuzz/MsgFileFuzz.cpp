// The .msg reader on files from anywhere: a damaged file raises Exception and nothing else. A
// message that was read is written as a message file that reads again.

#include "platform/outlook/msg/MsgFile.h"
#include "platform/runtime/Exception.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto input = fuzz::InputFile("input.msg", data, size);
    GObjectPtr<GMimeMessage> message;
    try {
        message = ReadMsgFile(input.string());
    } catch (const Exception&) {
        return 0;
    }
    const auto written = (fuzz::ScratchDir() / "written.msg").string();
    WriteMsgFile(message.get(), MsgItemProperties{}, written);
    ReadMsgFile(written);  // an exception here fails the run
    return 0;
}
