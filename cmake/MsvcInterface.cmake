# Tradewire.dll for terminals built with Microsoft's compiler (Windows build only). The DLL is a
# MinGW build; what an MSVC terminal needs on top is made with the LLVM tools and Wine's headers
# (scripts/msvc-abi.sh says why those):
#  - the Microsoft-decorated names of CForexDataCenter's operations, exported as aliases of the
#    MinGW functions through a module-definition file made at build time from a probe that
#    calls each operation (scripts/msvc-exports.sh);
#  - Tradewire.lib, the import library, made from the linked DLL's exports with llvm-dlltool
#    (scripts/msvc-import-lib.sh), installed beside libTradewire.dll.a.
# The interfaces' constructors and assignments get no alias: MSVC terminals compile them inline.

# The installed headers, which the probe and the MSVC terminal of tests/windows compile.
set(TRADEWIRE_PUBLIC_HEADERS)
foreach(header AbsForexManager.h AbsForexNotify.h CArray.h CString.h CriticalSection.h MemoryException.h
    ForexDataCenter.h ForexNotifyAdapter.h Records.h Server.h SharedHeap.h TradeCodes.h
    Tradewire.h Version.h)
  list(APPEND TRADEWIRE_PUBLIC_HEADERS
    ${PROJECT_SOURCE_DIR}/tradewire/interface/include/tradewire/${header})
endforeach()

# Adds the alias definitions to `target`'s link and makes Tradewire.lib after it.
function(tradewire_add_msvc_names target)
  set(scripts ${PROJECT_SOURCE_DIR}/scripts)
  set(aliases ${CMAKE_CURRENT_BINARY_DIR}/TradewireMsvcAliases.def)
  add_custom_command(OUTPUT ${aliases}
    COMMAND bash ${scripts}/msvc-exports.sh ${scripts}/msvc/DataCenterCallProbe.cpp
      ${CMAKE_CXX_COMPILER} $<TARGET_FILE:tradewire_datacenter> ${aliases}
      ${CMAKE_CURRENT_SOURCE_DIR}/interface/include ${CMAKE_CURRENT_BINARY_DIR}/include
    DEPENDS ${scripts}/msvc-exports.sh ${scripts}/msvc-abi.sh
      ${scripts}/msvc/DataCenterCallProbe.cpp ${TRADEWIRE_PUBLIC_HEADERS} tradewire_datacenter
    COMMENT "Pairing CForexDataCenter's MinGW and MSVC names"
    VERBATIM)
  target_sources(${target} PRIVATE ${aliases})

  set(import_lib ${CMAKE_CURRENT_BINARY_DIR}/Tradewire.lib)
  add_custom_command(OUTPUT ${import_lib}
    COMMAND bash ${scripts}/msvc-import-lib.sh $<TARGET_FILE:${target}> ${import_lib}
    DEPENDS ${scripts}/msvc-import-lib.sh ${target}
    COMMENT "Making the MSVC import library Tradewire.lib"
    VERBATIM)
  add_custom_target(${target}_msvc_import_lib ALL DEPENDS ${import_lib})
  set(TRADEWIRE_MSVC_IMPORT_LIB ${import_lib} PARENT_SCOPE)
  install(FILES ${import_lib} DESTINATION ${CMAKE_INSTALL_LIBDIR})
endfunction()
