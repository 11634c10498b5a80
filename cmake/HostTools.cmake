# In a cross build the programs that run at build time (the logo, form, cursor and resource
# makers and the container packer) come from a native build of this same tree in host/ of the
# build directory. They appear here as imported executables under their usual names, except
# the packer, which is host_stowaway (stowaway is the cross-built tool).
include(ExternalProject)

# (Another cross build's host directory may be named to share its native build.)
set(STOWAWAY_HOST_DIR ${CMAKE_BINARY_DIR}/host CACHE PATH "the native build of the build-time programs")
set(STOWAWAY_HOST_TOOLS make_logo make_form make_resources make_cursors stowaway)
set(host_paths app/make_logo app/make_form app/make_resources display/make_cursors tools/stowaway)
list(TRANSFORM host_paths PREPEND ${STOWAWAY_HOST_DIR}/)

ExternalProject_Add(host_tools
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${STOWAWAY_HOST_DIR}
  CMAKE_GENERATOR Ninja
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DSTOWAWAY_TESTS=OFF -DSTOWAWAY_BENCH=OFF
             -DSTOWAWAY_FUZZ=OFF -DSTOWAWAY_SANITIZE=OFF
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${STOWAWAY_HOST_DIR} --target ${STOWAWAY_HOST_TOOLS}
  BUILD_BYPRODUCTS ${host_paths}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON)

foreach(tool path IN ZIP_LISTS STOWAWAY_HOST_TOOLS host_paths)
  set(name ${tool})
  if(tool STREQUAL "stowaway")
    set(name host_stowaway)
  endif()
  add_executable(${name} IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${path})
  add_dependencies(${name} host_tools)
endforeach()
