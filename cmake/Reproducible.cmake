# The shipped images depend on the sources and the toolchain only, so that
# anyone can rebuild a release and compare (scripts/check-reproducible.sh).

# No link time in the PE header of any image, the uninstaller and the
# programs packed into the payload included.
add_link_options(-Wl,--no-insert-timestamp)

# No build folder in the code: __FILE__ in assertion reports and whatever
# else records a path names it relative to the source or build tree.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
