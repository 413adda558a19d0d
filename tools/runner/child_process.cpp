#include "child_process.h"

#include <vector>

namespace zelo::runner {

namespace {

constexpr DWORD kLongPath = 32768;

std::wstring folderOf(const std::wstring &path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace

ChildProcess::~ChildProcess() {
    if (info_.hProcess == nullptr) return;
    if (running()) TerminateProcess(info_.hProcess, 1);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool ChildProcess::start(const std::wstring &program) {
    // CreateProcessW may write into the command line.
    std::wstring commandLine = L"\"" + program + L"\"";
    const std::wstring folder = folderOf(program);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info_) != FALSE;
}

bool ChildProcess::running() const { return !waitForEnd(0); }

bool ChildProcess::waitForEnd(DWORD milliseconds) const {
    return info_.hProcess == nullptr || WaitForSingleObject(info_.hProcess, milliseconds) == WAIT_OBJECT_0;
}

DWORD ChildProcess::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (info_.hProcess != nullptr) GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

std::wstring besideRunner(const std::wstring &fileName) {
    std::vector<wchar_t> path(kLongPath);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    return folderOf(std::wstring(path.data(), length)) + fileName;
}

}  // namespace zelo::runner
