#include "app/hash_code_command.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "settings/access_code.h"
#include "text/error.h"

namespace lumaref {

namespace {

// One line of the standard input; on a terminal asked for with `prompt` and not echoed.
std::optional<std::string> readCode(const char* prompt, bool terminal) {
    termios saved{};
    if (terminal) {
        std::fputs(prompt, stderr);
        std::fflush(stderr);
        tcgetattr(STDIN_FILENO, &saved);
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::fputc('\n', stderr);
    }
    if (!read) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace

int runHashCodeCommand() {
    const bool terminal = isatty(STDIN_FILENO) == 1;
    try {
        const std::optional<std::string> code = readCode("New access code: ", terminal);
        if (!code) throw Error("No access code was given.");
        if (terminal && readCode("The same again: ", terminal) != code) throw Error("The two codes differ.");
        std::printf("access-code=%s\n", hashAccessCode(*code).c_str());
        return 0;
    } catch (const Error& failure) {
        std::fprintf(stderr, "lumaref: %s\n", failure.what());
        return 1;
    }
}

}  // namespace lumaref
