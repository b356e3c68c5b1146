# liblzma and Crypto++ are cross-built from Debian's source packages by
# scripts/build-deps.sh into ${QUILLMORE_DEPS_DIR}/<triple>.
if(NOT QUILLMORE_TRIPLE)
  message(FATAL_ERROR "Configure with one of the toolchain files in cmake/ (or a preset)")
endif()

set(QUILLMORE_DEPS_PREFIX "${QUILLMORE_DEPS_DIR}/${QUILLMORE_TRIPLE}")
if(NOT EXISTS "${QUILLMORE_DEPS_PREFIX}/.stamp")
  message(FATAL_ERROR "Dependencies missing in ${QUILLMORE_DEPS_PREFIX}: run scripts/build-deps.sh ${QUILLMORE_TRIPLE}")
endif()

add_library(deps_lzma STATIC IMPORTED GLOBAL)
set_target_properties(deps_lzma PROPERTIES
  IMPORTED_LOCATION "${QUILLMORE_DEPS_PREFIX}/lib/liblzma.a"
  INTERFACE_INCLUDE_DIRECTORIES "${QUILLMORE_DEPS_PREFIX}/include"
  INTERFACE_COMPILE_DEFINITIONS LZMA_API_STATIC)
add_library(deps::lzma ALIAS deps_lzma)

add_library(deps_cryptopp STATIC IMPORTED GLOBAL)
set_target_properties(deps_cryptopp PROPERTIES
  IMPORTED_LOCATION "${QUILLMORE_DEPS_PREFIX}/lib/libcryptopp.a"
  INTERFACE_INCLUDE_DIRECTORIES "${QUILLMORE_DEPS_PREFIX}/include"
  INTERFACE_LINK_LIBRARIES "advapi32;bcrypt"
  # GCC 12 drops live code of Crypto++ templates when it devirtualises; the
  # library is built with this flag and so must be what instantiates them.
  INTERFACE_COMPILE_OPTIONS -fno-devirtualize)
add_library(deps::cryptopp ALIAS deps_cryptopp)
