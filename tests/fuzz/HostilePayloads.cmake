# Part of the Windows test build (see CMakeLists.txt): damaged copies of the
# real installer and hostile payloads swapped into one, all in one test case
# and one fresh prefix, so the whole run costs one prefix copy.
quillmore_add_test(hostile_payload_tests FRESH LABELS hostile
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HostilePayloadTests.cpp)
target_sources(hostile_payload_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/../engine/PayloadBuilder.cpp)
target_link_libraries(hostile_payload_tests PRIVATE installer deps::lzma)
add_dependencies(hostile_payload_tests QuillmoreInstaller)
set_tests_properties(HostilePayloads.EveryDamagedInstallerIsRefusedAndLeavesNothingBehind PROPERTIES
  TIMEOUT 2400)
