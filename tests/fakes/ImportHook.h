// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

// Points the executable's own import of a system function elsewhere, so that a test sees what
// the program (Qt linked in) asks of the system. For the process's lifetime.
inline bool replaceImport(const char* dll, const char* function, const void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD table =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    const auto original =
        reinterpret_cast<ULONG_PTR>(::GetProcAddress(::GetModuleHandleA(dll), function));
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + table); entry->Name != 0;
         ++entry) {
        if (::lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) {
            continue;
        }
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
             slot->u1.Function != 0; ++slot) {
            if (slot->u1.Function == original) {
                DWORD was = 0;
                ::VirtualProtect(&slot->u1.Function, sizeof(ULONG_PTR), PAGE_READWRITE, &was);
                slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
                ::VirtualProtect(&slot->u1.Function, sizeof(ULONG_PTR), was, &was);
                return true;
            }
        }
    }
    return false;
}
