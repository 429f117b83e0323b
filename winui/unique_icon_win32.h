// The one owner of an icon the program loaded at a size of its own (LoadImage without
// LR_SHARED), which it must destroy itself. Icons from LoadIcon are shared and need no owner.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

struct IconDestroyer {
    void operator()(HICON icon) const {
        if (icon) DestroyIcon(icon);
    }
};

using CUniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;
