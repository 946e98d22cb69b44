#pragma once
// A private base for a class that owns something it alone may release (a handle, a folder, a
// signal mask it restores): copies are refused at compile time, so two objects never release
// the same thing. Moves are refused with them; a class that can move declares its own.

class NonCopyable {
  protected:
    NonCopyable() = default;
    ~NonCopyable() = default;

  public:
    NonCopyable(const NonCopyable&) = delete;
    NonCopyable& operator=(const NonCopyable&) = delete;
};
