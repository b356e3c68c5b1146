# Flags shared by every Windows target of the project.

# Unicode is never defined: the program calls the ...A functions by name.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600)

add_compile_options(-Wall -Wextra
  # Hardware faults are turned into C++ exceptions, so every instruction
  # that can fault must be able to unwind.
  -fnon-call-exceptions)

if(QUILLMORE_TEST_SEAMS)
  add_compile_definitions(QUILLMORE_TEST_SEAMS=1)
endif()

# Static runtime: the executables import Windows system DLLs only.
add_link_options(-static -static-libgcc -static-libstdc++)

# Every function and datum in a section of its own, so the linker drops what
# nothing reaches (the dependencies are built the same way).
add_compile_options(-ffunction-sections -fdata-sections)
add_link_options(-Wl,--gc-sections)

# The shipped build is optimised for size and carries no symbols; the test
# build keeps its debug info.
set(CMAKE_CXX_FLAGS_RELEASE "-Os -DNDEBUG")
set(CMAKE_C_FLAGS_RELEASE "-Os -DNDEBUG")
add_link_options($<$<CONFIG:Release>:-s>)
# The link map beside each shipped image (<target>.map in the build folder)
# says which library each byte comes from: scripts/size-by-origin.py.
add_link_options($<$<CONFIG:Release>:-Wl,-Map=$<TARGET_PROPERTY:NAME>.map>)

# Console programs start at main(); the program reads GetCommandLineW itself.
