// Drives tembrel.exe from outside, as a user at the handheld would: presses Boot and
// answers every message box with Yes (or OK), or photographs the three tabs.
//
//   window_driver boot -- tembrel.exe [options]    exits with tembrel.exe's status
//   window_driver shoot DIR -- tembrel.exe [options]   writes DIR/main.png, option.png, console.png
#include <windows.h>
#include <commctrl.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr auto windowWait = 30s;
constexpr auto bootWait = 120s;

struct Child {
    PROCESS_INFORMATION process{};
    bool started = false;
};

std::wstring quoted(const std::wstring& word) { return L"\"" + word + L"\""; }

Child start(int argc, wchar_t** argv, int first) {
    std::wstring line;
    for (int i = first; i < argc; ++i) line += (i > first ? L" " : L"") + quoted(argv[i]);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    Child child;
    child.started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                   &child.process) != FALSE;
    return child;
}

struct Search {
    DWORD process;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64];
    if (owner != search->process || !IsWindowVisible(window) || !GetClassNameW(window, name, 64)) return TRUE;
    if (lstrcmpW(name, search->className) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

/// A visible top-level window of the child's with that class, or null.
HWND findWindow(const Child& child, const wchar_t* className) {
    Search search{child.process.dwProcessId, className, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForWindow(const Child& child, const wchar_t* className) {
    auto end = std::chrono::steady_clock::now() + windowWait;
    while (std::chrono::steady_clock::now() < end) {
        if (HWND w = findWindow(child, className)) return w;
        if (WaitForSingleObject(child.process.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

std::wstring textOf(HWND window) {
    wchar_t buffer[512];
    int length = GetWindowTextW(window, buffer, 512);
    return std::wstring(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

/// Presses Boot, then Yes, or OK where there is no Yes, on each box until the child ends.
int bootAndAnswer(const Child& child) {
    HWND root = waitForWindow(child, L"TEMBREL");
    HWND boot = root != nullptr ? GetDlgItem(root, 5) : nullptr;
    if (boot == nullptr) {
        std::fprintf(stderr, "window_driver: no window appeared\n");
        return 1;
    }
    PostMessageW(boot, BM_CLICK, 0, 0);
    auto end = std::chrono::steady_clock::now() + bootWait;
    while (WaitForSingleObject(child.process.hProcess, 50) == WAIT_TIMEOUT) {
        if (std::chrono::steady_clock::now() > end) {
            std::fprintf(stderr, "window_driver: tembrel.exe did not end in time\n");
            TerminateProcess(child.process.hProcess, 3);
            return 3;
        }
        HWND box = findWindow(child, L"#32770");
        if (box == nullptr) continue;
        std::fwprintf(stderr, L"box: %ls: %ls\n", textOf(box).c_str(), textOf(GetDlgItem(box, 0xFFFF)).c_str());
        PostMessageW(box, WM_COMMAND, GetDlgItem(box, IDYES) != nullptr ? IDYES : IDOK, 0);
        while (IsWindow(box) && WaitForSingleObject(child.process.hProcess, 20) == WAIT_TIMEOUT) {
        }
    }
    DWORD status = 1;
    GetExitCodeProcess(child.process.hProcess, &status);
    return static_cast<int>(status);
}

void appendChunk(std::string& png, const char* type, const std::string& data) {
    auto be32 = [&png](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) png += static_cast<char>((v >> shift) & 0xFF);
    };
    be32(static_cast<std::uint32_t>(data.size()));
    std::string typed = std::string(type, 4) + data;
    png += typed;
    be32(static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typed.data()), typed.size())));
}

/// The window's pixels on the screen as an RGB PNG file.
bool photograph(HWND window, const std::wstring& path) {
    RECT r;
    GetWindowRect(window, &r);
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    std::string raw;
    const auto* pixels = static_cast<const std::uint8_t*>(bits);
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = pixels + 4 * (y * width + x);
            raw += {static_cast<char>(p[2]), static_cast<char>(p[1]), static_cast<char>(p[0])};
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    uLongf packedSize = compressBound(raw.size());
    std::string packed(packedSize, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
              raw.size(), 9);
    packed.resize(packedSize);
    std::string header;
    for (std::uint32_t v : {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)}) {
        for (int shift = 24; shift >= 0; shift -= 8) header += static_cast<char>((v >> shift) & 0xFF);
    }
    header += {8, 2, 0, 0, 0};  // 8-bit RGB
    std::string png = "\x89PNG\r\n\x1a\n";
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", "");
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (out == nullptr) return false;
    bool written = std::fwrite(png.data(), 1, png.size(), out) == png.size();
    return std::fclose(out) == 0 && written;
}

int shoot(const Child& child, const std::wstring& folder) {
    HWND root = waitForWindow(child, L"TEMBREL");
    HWND tab = root != nullptr ? GetDlgItem(root, 7) : nullptr;
    if (tab == nullptr) {
        std::fprintf(stderr, "window_driver: no window appeared\n");
        return 1;
    }
    const wchar_t* names[] = {L"main.png", L"option.png", L"console.png"};
    int result = 0;
    for (int page = 0; page < 3; ++page) {
        SendMessageW(tab, TCM_SETCURFOCUS, static_cast<WPARAM>(page), 0);
        std::this_thread::sleep_for(700ms);
        if (!photograph(root, folder + L"\\" + names[page])) result = 1;
    }
    PostMessageW(root, WM_COMMAND, 6, 0);  // Cancel
    WaitForSingleObject(child.process.hProcess, 10000);
    return result;
}

int usage() {
    std::fprintf(stderr, "usage: window_driver boot -- PROGRAM [ARGS]\n"
                         "       window_driver shoot DIR -- PROGRAM [ARGS]\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int separator = 1;
    while (separator < argc && lstrcmpW(argv[separator], L"--") != 0) ++separator;
    if (argc < 2 || separator + 1 >= argc) return usage();
    std::wstring command = argv[1];
    if ((command == L"boot" && separator != 2) || (command == L"shoot" && separator != 3)) return usage();
    if (command != L"boot" && command != L"shoot") return usage();
    Child child = start(argc, argv, separator + 1);
    if (!child.started) {
        std::fprintf(stderr, "window_driver: can't start the program\n");
        return 1;
    }
    int result = command == L"boot" ? bootAndAnswer(child) : shoot(child, argv[2]);
    CloseHandle(child.process.hThread);
    CloseHandle(child.process.hProcess);
    return result;
}
