#pragma once
// What the inline CString and CArray code throws when memory runs out, or when a requested size
// cannot be represented (a length beyond CString's limit, an element count whose bytes overflow
// the address space). It is checked before any memory is touched, so the object that threw is
// left as it was. Catch it by reference: catch (const CMemoryException&).
//
// Thrown only by inline code, so it is raised and caught by the terminal's own compiler. A
// library call that copies into a caller's object may raise it too; see README ("Memory
// exhaustion") for what a terminal built with another compiler gets instead.

class CMemoryException {};

[[noreturn]] inline void TradewireThrowMemoryException() {
    throw CMemoryException();
}
