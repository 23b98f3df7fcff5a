# Where `cmake --install` puts the programs. They find their language
# libraries, manual and upgrade tool beside themselves, so all of these share
# one program folder; <prefix>/bin only holds links to the programs.
set(VETRA_INSTALL_PROGRAM_DIR lib/vetradesk)

# Installs a program into the program folder and a symbolic link to it into
# <prefix>/bin. The link is relative, so it stays right under DESTDIR staging
# (the Debian package's) and with `cmake --install --prefix`; it goes into the
# install manifest so that what was installed can be removed again.
function(vetra_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${VETRA_INSTALL_PROGRAM_DIR})
  file(RELATIVE_PATH relative /${CMAKE_INSTALL_BINDIR} /${VETRA_INSTALL_PROGRAM_DIR}/${target})
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${target}\")
    message(STATUS \"Installing: \${link} -> ${relative}\")
    get_filename_component(folder \"\${link}\" DIRECTORY)
    file(MAKE_DIRECTORY \"\${folder}\")
    file(CREATE_LINK \"${relative}\" \"\${link}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${link}\")
  ")
endfunction()
