// Owners for GDI resources: each gives back what it holds once, on every way out.
#pragma once

#include <windows.h>

#include <utility>

// A GDI object (bitmap, font, brush) that is deleted with DeleteObject unless given up.
template <typename Handle>
class CUniqueGdiObject {
  public:
    CUniqueGdiObject() = default;
    explicit CUniqueGdiObject(Handle object) : object_(object) {}
    CUniqueGdiObject(const CUniqueGdiObject&) = delete;  // two owners would delete it twice
    CUniqueGdiObject& operator=(const CUniqueGdiObject&) = delete;
    ~CUniqueGdiObject() { Reset(); }

    Handle Get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // Gives the object up without deleting it.
    Handle Release() { return std::exchange(object_, nullptr); }
    // Deletes what is owned and takes `object` instead.
    void Reset(Handle object = nullptr) {
        if (const Handle old = std::exchange(object_, object)) DeleteObject(old);
    }

  private:
    Handle object_ = nullptr;
};

// The screen's device context, released on the way out.
class CScreenDc {
  public:
    CScreenDc() : dc_(GetDC(nullptr)) {}
    CScreenDc(const CScreenDc&) = delete;
    CScreenDc& operator=(const CScreenDc&) = delete;
    ~CScreenDc() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    HDC Get() const { return dc_; }

  private:
    HDC dc_;
};

// A memory device context compatible with `dc`, deleted on the way out.
class CMemoryDc {
  public:
    explicit CMemoryDc(HDC dc) : dc_(CreateCompatibleDC(dc)) {}
    CMemoryDc(const CMemoryDc&) = delete;
    CMemoryDc& operator=(const CMemoryDc&) = delete;
    ~CMemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    HDC Get() const { return dc_; }

  private:
    HDC dc_;
};

// `object` selected into `dc` for the owner's lifetime; the previous selection comes back.
class CSelection {
  public:
    CSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    CSelection(const CSelection&) = delete;
    CSelection& operator=(const CSelection&) = delete;
    ~CSelection() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};
