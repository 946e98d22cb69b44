# On Windows, Tradewire.dll loads OpenSSL only from its own folder, the program's folder and the
# system folder, and the test programs import OpenSSL themselves: the cross-built DLLs are copied
# beside each such target after it is built (before its tests are listed). Nothing elsewhere.
function(tradewire_place_openssl_dlls target)
  if(NOT WIN32)
    return()
  endif()
  set(bin ${TRADEWIRE_WINDOWS_DEPS}/bin)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${bin}/libssl-3-x64.dll
      ${bin}/libcrypto-3-x64.dll $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
