# Part of the Windows test build (see CMakeLists.txt): damaged and hostile
# payloads swapped into a copy of the real installer, all in one test case
# and one fresh prefix, so the whole run costs one prefix copy.
quillmore_add_test(hostile_payload_tests FRESH LABELS hostile
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HostilePayloadTests.cpp)
target_sources(hostile_payload_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/../engine/PayloadBuilder.cpp)
target_link_libraries(hostile_payload_tests PRIVATE engine deps::lzma)
add_dependencies(hostile_payload_tests QuillmoreInstaller)
set_tests_properties(HostilePayloads.EveryDamagedPayloadEndsInAnErrorAndLeavesNothingBehind PROPERTIES
  TIMEOUT 900)
