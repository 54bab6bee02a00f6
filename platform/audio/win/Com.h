#pragma once
// COM as the library uses it on threads that are not its own.

#include <objbase.h>

namespace ovelaudio {

template <typename T>
void Release(T*& object)
{
    if (object) {
        object->Release();
        object = nullptr;
    }
}

// Joins the multithreaded apartment for a scope, unless the thread already
// belongs to an apartment, which then serves as it is.
class ComScope {
public:
    ComScope() : joined_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ~ComScope()
    {
        if (joined_)
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool joined_;
};

}  // namespace ovelaudio
