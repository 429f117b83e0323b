// COM on the calling thread for as long as the owner lives.
#pragma once

#include <objbase.h>

// Initialises COM as a single-threaded apartment and balances the call only when it succeeded:
// S_FALSE (already initialised on this thread) is balanced too, a failure (for instance
// RPC_E_CHANGED_MODE, another apartment already chosen) is not.
class CComInitialization {
  public:
    CComInitialization() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    CComInitialization(const CComInitialization&) = delete;  // one balancing call per thread
    CComInitialization& operator=(const CComInitialization&) = delete;
    ~CComInitialization() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }

    HRESULT Result() const { return result_; }

  private:
    HRESULT result_;
};
