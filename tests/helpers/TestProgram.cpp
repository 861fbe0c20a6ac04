// A small console program the tests start, sign and inspect.
//   test_program [MARKER [EXIT_CODE]]  writes MARKER (a file), exits with EXIT_CODE
//   test_program --sleep MS           stays alive for MS milliseconds
//   test_program --hold-mutex NAME MS owns the named mutex for MS milliseconds
//   test_program --hold FILE MS       keeps FILE open without delete sharing for MS
//   test_program --load DLL MS        keeps DLL loaded for MS milliseconds
//                                     (stands in for the product's installer)
#include <windows.h>

#include <cwchar>
#include <cstdlib>

// Patched by the build to make a copy whose signature no longer matches.
extern "C" const char g_tamperMark[] = "TAMPER-ME-PLEASE";

namespace {

void SignalReady(int argc, wchar_t** argv)
{
    if (argc < 5) return;
    HANDLE file = ::CreateFileW(argv[4], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    volatile char keep = g_tamperMark[0];
    (void)keep;
    if (argc >= 3 && std::wcscmp(argv[1], L"--sleep") == 0) {
        ::Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
        return 0;
    }
    if (argc >= 4 && std::wcscmp(argv[1], L"--hold-mutex") == 0) {
        HANDLE mutex = ::CreateMutexW(nullptr, TRUE, argv[2]);
        SignalReady(argc, argv);
        ::Sleep(static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
        if (mutex) ::CloseHandle(mutex);
        return 0;
    }
    if (argc >= 4 && std::wcscmp(argv[1], L"--hold") == 0) {
        HANDLE file = ::CreateFileW(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 2;
        SignalReady(argc, argv);
        ::Sleep(static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
        ::CloseHandle(file);
        return 0;
    }
    if (argc >= 4 && std::wcscmp(argv[1], L"--load") == 0) {
        HMODULE module = ::LoadLibraryW(argv[2]);
        if (!module) return 3;
        SignalReady(argc, argv);
        ::Sleep(static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)));
        ::FreeLibrary(module);
        return 0;
    }
    if (argc >= 2) {
        HANDLE file = ::CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    }
    return argc >= 3 ? std::wcstol(argv[2], nullptr, 10) : 0;
}
