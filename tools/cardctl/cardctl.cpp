// cardctl: a command-line host of the card reader control.
//
//   cardctl InitComm 1001 Authenticate ReadBaseMsg GetName GetCode Picture
//
// Each word names a member (case ignored) and is followed by as many
// arguments as the member takes; "Name=value" writes a property. Every call
// prints "Member: result". The devices, the photo decoder and the waits come
// from the CARDKIT_* environment variables of the control. "register" and
// "unregister" add and remove the control's record in the registry file.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "cardkit/card_dispatch.h"
#include "cardkit/card_server.h"
#include "cardkit/text_util.h"

using cardkit::FromUtf8;
using cardkit::ToUtf8;

namespace {

constexpr const char *kUsage =
    "usage: cardctl register|unregister\n"
    "       cardctl MEMBER [ARG...] [PROPERTY=VALUE] ...\n"
    "Calls the card reader control's members in order and prints \"Member: result\"\n"
    "for each, e.g. cardctl InitComm 1001 Authenticate ReadBaseMsg GetName Picture\n";

// To stdout for --help, to stderr (exit code 2) for a wrong command line.
int Usage(FILE *out, int status)
{
    std::fputs(kUsage, out);
    return status;
}

// Runs the word at argv[*at] (and its arguments); false on any dispatch error.
bool RunOne(CCardControlCtrl &control, int argc, char **argv, int *at)
{
    const std::string word = argv[(*at)++];
    const size_t equals = word.find('=');
    CardVariant result;
    int32_t code;
    std::string member = word.substr(0, equals);
    if (equals != std::string::npos) {
        code = InvokeCardControlByName(control, FromUtf8(member), DispatchKind::PropertyPut,
                                       {CardVariant::Text(FromUtf8(word.substr(equals + 1)))},
                                       nullptr);
    } else {
        const int32_t dispid = GetCardDispId(FromUtf8(member));
        const int count = GetCardParamCount(dispid);
        std::vector<CardVariant> args;
        for (int i = 0; i < count && *at < argc; ++i)
            args.push_back(CardVariant::Text(FromUtf8(argv[(*at)++])));
        code =
            InvokeCardControlByName(control, FromUtf8(member), DispatchKind::Method, args, &result);
    }
    if (code != kDispOk) {
        std::printf("%s: error 0x%08X\n", member.c_str(), unsigned(code));
        return false;
    }
    if (equals == std::string::npos)
        std::printf("%s: %s\n", member.c_str(), ToUtf8(result.ToText()).c_str());
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return Usage(stderr, 2);
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
        return Usage(stdout, 0);
    if (argc == 2 && std::strcmp(argv[1], "register") == 0)
        return DllRegisterServer() == 0 ? 0 : 1;
    if (argc == 2 && std::strcmp(argv[1], "unregister") == 0)
        return DllUnregisterServer() == 0 ? 0 : 1;
    std::unique_ptr<CCardControlCtrl> control(CreateCardControl(kCardControlProgId));
    bool ok = true;
    for (int at = 1; at < argc;)
        ok = RunOne(*control, argc, argv, &at) && ok;
    std::fflush(stdout);
    return ok ? 0 : 1;
}
