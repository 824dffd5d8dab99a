# What the Windows build does differently, for everything it compiles:
# GLUT::GLUT is freeglut from Debian's own source package, fetched through
# apt and built as a static library by freeglut.sh once per build folder;
# every program is linked statically, so that it needs no DLL but Windows'
# own; and Windows' counterparts of the hardening that Linux gets.

set(BRELOX_FREEGLUT_DIR ${CMAKE_BINARY_DIR}/freeglut)
execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/freeglut.sh ${BRELOX_FREEGLUT_DIR} ${CMAKE_TOOLCHAIN_FILE}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "No freeglut to build the Windows viewer with: freeglut.sh says why above")
endif()
find_package(FreeGLUT CONFIG REQUIRED PATHS ${BRELOX_FREEGLUT_DIR} NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
add_library(GLUT::GLUT INTERFACE IMPORTED)
target_link_libraries(GLUT::GLUT INTERFACE FreeGLUT::freeglut_static)

# The C, C++ and thread runtimes linked in.
add_link_options(-static)

# ASLR with 64-bit entropy and DEP, named although the linker defaults to
# them, so that a change of default cannot drop them; and the stack
# protector and fortified calls, whose runtime (libssp) the driver links in
# when told at link time too.
if(BRELOX_HARDEN)
  add_compile_options(-fstack-protector-strong $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  add_link_options(-fstack-protector-strong -Wl,--dynamicbase,--high-entropy-va,--nxcompat)
endif()
