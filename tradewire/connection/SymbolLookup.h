#pragma once
// Typed look-ups of the TLS library's entry points for the tables that hold them (CSslApi,
// CVerifyApi). Pure; called on whichever thread fills a table, and owns nothing.

#include "platform/ModuleLoader.h"

// Casts a looked-up symbol to the entry point's type; null stays null. `fallback`, when given,
// is the same call's name in the builds or generations that lack `name`. True when found.
template <class Function>
bool TakeSymbol(Function& target, ModuleLoader::Handle module, const char* name,
                const char* fallback = nullptr) {
    void* symbol = ModuleLoader::Symbol(module, name);
    if (symbol == nullptr && fallback != nullptr) {
        symbol = ModuleLoader::Symbol(module, fallback);
    }
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): dlsym yields untyped pointers
    target = reinterpret_cast<Function>(symbol);
    return target != nullptr;
}
