# platform_sources(<var> [FOLDER <dir>] FILES <name>... [SYSTEM_FILES <name>...]
#                  [WIN32_FILES <name>...])
# The sources of a platform folder for the system being built. FILES are the folder's portable
# files (and, where there is no win32/ counterpart, its POSIX ones). Each of SYSTEM_FILES is the
# system half of a file whose portable part is in FILES: taken from the folder's win32/ on
# Windows and from its posix/ elsewhere. On Windows each of WIN32_FILES, taken from win32/,
# replaces the file of the same name in FILES (or joins the list when there is none). FOLDER,
# when given, is put before every name, for lists made outside the folder itself.
function(platform_sources var)
  cmake_parse_arguments(P "" "FOLDER" "FILES;SYSTEM_FILES;WIN32_FILES" ${ARGN})
  set(sources ${P_FILES})
  if(WIN32)
    set(system win32)
  else()
    set(system posix)
  endif()
  foreach(name ${P_SYSTEM_FILES})
    list(APPEND sources ${system}/${name})
  endforeach()
  if(WIN32)
    foreach(name ${P_WIN32_FILES})
      list(REMOVE_ITEM sources ${name})
      list(APPEND sources win32/${name})
    endforeach()
  endif()
  if(P_FOLDER)
    list(TRANSFORM sources PREPEND ${P_FOLDER}/)
  endif()
  set(${var} ${sources} PARENT_SCOPE)
endfunction()

# target_source_paths(<var> <target>): the target's own sources as absolute paths, for a target
# elsewhere that compiles some of the same files again.
function(target_source_paths var target)
  get_target_property(sources ${target} SOURCES)
  get_target_property(folder ${target} SOURCE_DIR)
  list(TRANSFORM sources PREPEND ${folder}/)
  set(${var} ${sources} PARENT_SCOPE)
endfunction()
