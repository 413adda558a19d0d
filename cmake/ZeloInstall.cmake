# What `cmake --install` puts on a Linux system, and so what the Debian
# package holds (make deb installs into its staging root): the zelo
# program, the library beside it in a folder of its own, the manual page,
# the bash completion, the udev rule and the copyright.
include(GNUInstallDirs)

set(ZELO_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/zelo)
set_target_properties(zelo PROPERTIES INSTALL_RPATH "${CMAKE_INSTALL_FULL_LIBDIR}/zelo")
install(TARGETS zelo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS ZELO LIBRARY DESTINATION ${ZELO_PRIVATE_LIBDIR} NAMELINK_SKIP)
install(FILES ${ZELO_MANUAL} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${ZELO_COMPLETION} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME zelo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/70-zelo.rules DESTINATION ${ZELO_UDEV_RULES_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/linux/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
