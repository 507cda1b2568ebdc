# What `cmake --install` puts where: volan-host in bin/, the plug-in file and the host layer it links
# against in a folder of their own below the library folder, the manual page in share/man/man1.
# Tests, benchmarks, fuzzers and the layers' link checks are not installed.
include(GNUInstallDirs)
set(VOLAN_INSTALL_PLUGINDIR ${CMAKE_INSTALL_LIBDIR}/volan-pro)

# The plug-in's folder as seen from volan-host's: volan-host looks there when the plug-in is not
# beside it, and finds libFMWrapper.so there through its run path.
cmake_path(RELATIVE_PATH VOLAN_INSTALL_PLUGINDIR BASE_DIRECTORY ${CMAKE_INSTALL_BINDIR}
           OUTPUT_VARIABLE VOLAN_PLUGINDIR_FROM_BINDIR)
target_compile_definitions(volan-host PRIVATE VOLAN_PLUGINDIR_FROM_BINDIR="${VOLAN_PLUGINDIR_FROM_BINDIR}")
set_target_properties(volan-host PROPERTIES INSTALL_RPATH "$ORIGIN/${VOLAN_PLUGINDIR_FROM_BINDIR}")
set_target_properties(Volan_Pro_WIN PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS volan-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS FMWrapper Volan_Pro_WIN LIBRARY DESTINATION ${VOLAN_INSTALL_PLUGINDIR})

# The manual page, compressed as Debian keeps them (-n: no name or time stamp, the same bytes each build).
set(VOLAN_MAN_PAGE ${CMAKE_BINARY_DIR}/doc/volan-host.1.gz)
add_custom_command(OUTPUT ${VOLAN_MAN_PAGE}
                   COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/doc/volan-host.1 > ${VOLAN_MAN_PAGE}
                   DEPENDS ${CMAKE_SOURCE_DIR}/doc/volan-host.1 VERBATIM)
add_custom_target(volan-host-man ALL DEPENDS ${VOLAN_MAN_PAGE})
install(FILES ${VOLAN_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
