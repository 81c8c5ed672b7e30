#include "support/process.h"

#include <windows.h>
#include <stdexcept>
#include <string>

namespace {

std::wstring widen(const std::string& utf8)
{
    if (utf8.empty()) return std::wstring();
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

// Quotes one argument so that the C runtime's parser gives it back as it was.
std::wstring quoted(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"')
            out.append(backslashes * 2 + 1, L'\\');
        else
            out.append(backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

}  // namespace

RunResult runProgram(const std::string& program, const std::vector<std::string>& argv,
                     const RunOptions& options)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        throw std::runtime_error("CreatePipe failed");
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    std::wstring commandLine;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        if (i != 0) commandLine += L' ';
        commandLine += quoted(widen(argv[i]));
    }
    for (const std::string& entry : options.environment) {
        const std::size_t eq = entry.find('=');
        ::SetEnvironmentVariableW(widen(entry.substr(0, eq)).c_str(),
                                  widen(entry.substr(eq + 1)).c_str());
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    const std::wstring workDir = options.workDir.wstring();
    // Under Wine, starting many processes in a row now and then fails with
    // ERROR_INTERNAL_ERROR before the program runs at all; a second try works.
    // The program has not run, so trying again hides nothing about it.
    BOOL started = FALSE;
    DWORD error = 0;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        if (attempt != 0) ::Sleep(50u * static_cast<DWORD>(attempt));
        started = ::CreateProcessW(widen(program).c_str(), commandLine.data(), nullptr, nullptr,
                                   TRUE, 0, nullptr, workDir.empty() ? nullptr : workDir.c_str(),
                                   &startup, &process);
        if (!started) error = ::GetLastError();
        if (!started && error != ERROR_INTERNAL_ERROR) break;
    }
    ::CloseHandle(writeEnd);
    if (!started) {
        ::CloseHandle(readEnd);
        throw std::runtime_error("CreateProcess failed for " + program + " with error " +
                                 std::to_string(error));
    }
    RunResult result{-1, {}};
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        result.output.append(buffer, got);
    }
    ::CloseHandle(readEnd);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    result.status = static_cast<int>(code);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);

    // Standard output is in text mode on Windows: each line ends in CR LF.
    // Tests compare the text itself.
    std::string text;
    for (std::size_t i = 0; i < result.output.size(); ++i) {
        if (result.output[i] == '\r' && i + 1 < result.output.size() &&
            result.output[i + 1] == '\n')
            continue;
        text += result.output[i];
    }
    result.output = text;
    return result;
}

RunResult runHxdemuxForked(const std::vector<std::string>& argv,
                           const std::filesystem::path& workDir)
{
    RunOptions options;
    options.workDir = workDir;
    return runProgram(hxdemuxPath(), argv, options);
}
