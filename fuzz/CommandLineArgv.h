#ifndef QUILO_FUZZ_COMMANDLINEARGV_H
#define QUILO_FUZZ_COMMANDLINEARGV_H

// A host implementation of the rules by which CommandLineToArgvW (and with it
// the .NET runtime and the C runtime's start-up code) splits a command line,
// so that the runtime's command line can be read back off Windows. A unit test
// checks it against the real CommandLineToArgvW with a table of cases.
//
// The rules:
// - The first argument is the program name. When the line starts with '"' it
//   runs to the next '"' (or the end) and backslashes are plain characters;
//   otherwise it runs to the first space or tab. Spaces and tabs after it are
//   skipped.
// - Every further argument ends at a space or tab outside quotes; runs of
//   spaces and tabs between arguments are skipped, and trailing ones give no
//   argument.
// - 2n backslashes followed by '"' give n backslashes, and the '"' opens or
//   closes a quoted part; 2n+1 backslashes followed by '"' give n backslashes
//   and a literal '"'. Backslashes not followed by '"' are plain characters.
// - Consecutive quotes: counting the quote that opened the quoted part, every
//   third quote of a run is a literal '"', and a run that leaves two quotes
//   counted ends the quoted part.
// - An empty line gives the program name alone: the real function returns the
//   module's path then, which callers here pass in.

#include <string>
#include <vector>

namespace quilo_fuzz {

inline bool IsArgumentBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

inline std::vector<std::wstring> SplitCommandLine(const std::wstring& line,
                                                  const std::wstring& programIfEmpty = std::wstring()) {
    std::vector<std::wstring> argv;
    std::wstring::size_type at = 0;
    const std::wstring::size_type size = line.size();

    // The program name: no escapes at all.
    std::wstring program;
    if (at < size && line[at] == L'"') {
        ++at;
        while (at < size && line[at] != L'"') {
            program += line[at++];
        }
        if (at < size) {
            ++at;  // the closing quote
        }
    } else {
        while (at < size && !IsArgumentBlank(line[at])) {
            program += line[at++];
        }
    }
    if (line.empty()) {
        program = programIfEmpty;
    }
    argv.push_back(program);

    while (at < size && IsArgumentBlank(line[at])) {
        ++at;
    }
    while (at < size) {
        std::wstring argument;
        int quotes = 0;  // quotes counted in the current quoted part (0: outside)
        std::wstring::size_type backslashes = 0;
        while (at < size) {
            const wchar_t c = line[at];
            if (c == L'\\') {
                ++backslashes;
                argument += c;
                ++at;
                continue;
            }
            if (c == L'"') {
                argument.erase(argument.size() - backslashes);
                argument.append(backslashes / 2, L'\\');
                if (backslashes % 2 == 1) {
                    argument += L'"';
                } else {
                    ++quotes;
                }
                backslashes = 0;
                ++at;
                while (at < size && line[at] == L'"') {
                    if (++quotes == 3) {
                        argument += L'"';
                        quotes = 0;
                    }
                    ++at;
                }
                if (quotes == 2) {
                    quotes = 0;
                }
                continue;
            }
            backslashes = 0;
            if (IsArgumentBlank(c) && quotes == 0) {
                break;
            }
            argument += c;
            ++at;
        }
        argv.push_back(argument);
        while (at < size && IsArgumentBlank(line[at])) {
            ++at;
        }
    }
    return argv;
}

}  // namespace quilo_fuzz

#endif
