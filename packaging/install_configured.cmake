# Runs at install time (from cmake_install.cmake): writes the launcher, the desktop entry and
# the xscreensaver description with the paths of this install's prefix, then installs them.
# Set before: MIRRAVANE_PACKAGING, MIRRAVANE_STAGE, MIRRAVANE_BINDIR, MIRRAVANE_DATADIR.
foreach(kind BINDIR DATADIR)
  if(IS_ABSOLUTE "${MIRRAVANE_${kind}}")
    set(mirravane_${kind} "${MIRRAVANE_${kind}}")
  else()
    set(mirravane_${kind} "${CMAKE_INSTALL_PREFIX}/${MIRRAVANE_${kind}}")
  endif()
endforeach()

set(MIRRAVANE_BINARY "${mirravane_BINDIR}/mirravane")
set(MIRRAVANE_LAUNCHER "${mirravane_BINDIR}/mirravane-launch")
set(MIRRAVANE_SHARED_DATA "${mirravane_DATADIR}/mirravane")
configure_file("${MIRRAVANE_PACKAGING}/mirravane-launch.in" "${MIRRAVANE_STAGE}/mirravane-launch" @ONLY)
configure_file("${MIRRAVANE_PACKAGING}/mirravane.desktop.in" "${MIRRAVANE_STAGE}/mirravane.desktop" @ONLY)
# xscreensaver finds a description by the name of the command it runs.
configure_file("${MIRRAVANE_PACKAGING}/mirravane-launch.xml.in" "${MIRRAVANE_STAGE}/mirravane-launch.xml" @ONLY)

file(INSTALL DESTINATION "${mirravane_BINDIR}" TYPE PROGRAM FILES "${MIRRAVANE_STAGE}/mirravane-launch")
file(INSTALL DESTINATION "${mirravane_DATADIR}/applications" TYPE FILE FILES "${MIRRAVANE_STAGE}/mirravane.desktop")
file(INSTALL DESTINATION "${mirravane_DATADIR}/xscreensaver/config" TYPE FILE
     FILES "${MIRRAVANE_STAGE}/mirravane-launch.xml")
