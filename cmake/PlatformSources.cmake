# platform_sources(<var> <folder>): the .cpp files of a platform folder for the system being
# built. On Windows each file of <folder>/win32/ replaces the file of the same name in <folder>
# (and adds itself when there is none); elsewhere the win32/ folder is ignored.
function(platform_sources var folder)
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  if(WIN32)
    file(GLOB win32_sources CONFIGURE_DEPENDS ${folder}/win32/*.cpp)
    foreach(source ${win32_sources})
      get_filename_component(name ${source} NAME)
      list(REMOVE_ITEM sources ${folder}/${name})
    endforeach()
    list(APPEND sources ${win32_sources})
  endif()
  set(${var} ${sources} PARENT_SCOPE)
endfunction()
