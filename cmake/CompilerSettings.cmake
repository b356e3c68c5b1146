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

# Console programs start at main(); the program reads GetCommandLineW itself.
