#pragma once
// One owned system handle: released when the owner goes, moved (never copied) to a new owner.
// `Traits` names the handle type, its "none" value and the call that releases it. An owner is
// used by one thread at a time, like the handle it holds.

#include <utility>

template <class Traits>
class COwnedHandle {
  public:
    using Handle = typename Traits::Handle;

    COwnedHandle() = default;
    explicit COwnedHandle(Handle handle) : m_handle(handle) {}
    ~COwnedHandle() { Reset(); }
    COwnedHandle(const COwnedHandle&) = delete;
    COwnedHandle& operator=(const COwnedHandle&) = delete;
    COwnedHandle(COwnedHandle&& other) noexcept : m_handle(other.Release()) {}
    COwnedHandle& operator=(COwnedHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            m_handle = other.Release();
        }
        return *this;
    }

    Handle Get() const { return m_handle; }
    bool IsValid() const { return m_handle != Traits::kNone; }
    // Gives the handle up without releasing it; the owner is left empty.
    Handle Release() { return std::exchange(m_handle, Traits::kNone); }
    // Releases the handle now; the owner is left empty.
    void Reset() {
        if (IsValid()) {
            Traits::Free(Release());
        }
    }

  private:
    Handle m_handle = Traits::kNone;
};
