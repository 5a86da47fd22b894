# What `cmake --install` puts in place besides the two programs, and the Debian package CPack makes of it
# (`make package`: build/halvorn_<version>_<arch>.deb). Included by the top-level CMakeLists.txt, so the
# CPack settings are seen by include(CPack).

# The day of this version's release: the package's changelog and the AppStream release name it.
set(HALVORN_RELEASE_DATE 2026-12-07)
set(HALVORN_MAINTAINER "Halvorn maintainers <maintainers@users.noreply.c-seed-ab0230a2.example>")

# Program data: the attenuation table and the example result file, which the program copies into the
# working folder it makes on first start (files under share/doc must not be needed to run).
install(FILES data/MUs2022.dat examples/ct-120kv.csv DESTINATION ${CMAKE_INSTALL_DATADIR}/halvorn)

# The manual with its figures and screenshots, where the start screen's manual link finds it (the note on
# the code's layout is for developers), and the example with its profile.
install(DIRECTORY docs/ DESTINATION ${HALVORN_DOC_INSTALL_DIR}
        FILES_MATCHING PATTERN "*.md" PATTERN "*.png" PATTERN "*.svg" PATTERN "architecture.md" EXCLUDE)
install(FILES examples/README.md examples/ct-120kv.csv examples/ct-120kv.profile.csv
        DESTINATION ${HALVORN_DOC_INSTALL_DIR}/examples)
install(FILES packaging/copyright DESTINATION ${HALVORN_DOC_INSTALL_DIR})

# The desktop: menu entry, AppStream metainfo, icon (the SVG and its committed PNG sizes).
install(FILES packaging/org.halvorn.halvorn.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(packaging/org.halvorn.halvorn.metainfo.xml.in packaging/org.halvorn.halvorn.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/org.halvorn.halvorn.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/icons/halvorn.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
    install(FILES packaging/icons/halvorn-${size}.png DESTINATION
            ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME halvorn.png)
endforeach()

# Man pages and the changelog, compressed as Debian wants them: gzip -9 without a time stamp, so the same
# sources give the same package.
execute_process(COMMAND date -u -R -d "${HALVORN_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE HALVORN_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(packaging/changelog.in packaging/changelog @ONLY)
configure_file(packaging/man/halvorn.1.in packaging/halvorn.1 @ONLY)
configure_file(packaging/man/halvorn-calc.1.in packaging/halvorn-calc.1 @ONLY)
set(HALVORN_GZIPPED)
foreach(name halvorn.1 halvorn-calc.1 changelog)
    set(source ${CMAKE_CURRENT_BINARY_DIR}/packaging/${name})
    set(gz ${source}.gz)
    add_custom_command(OUTPUT ${gz} COMMAND gzip -9 -n -c ${source} > ${gz} DEPENDS ${source} VERBATIM)
    list(APPEND HALVORN_GZIPPED ${gz})
endforeach()
add_custom_target(halvorn-packaging-files ALL DEPENDS ${HALVORN_GZIPPED})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/halvorn.1.gz
              ${CMAKE_CURRENT_BINARY_DIR}/packaging/halvorn-calc.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${HALVORN_DOC_INSTALL_DIR})

# The Debian package. Its library dependencies come from dpkg-shlibdeps; the Japanese screens want a CJK
# font, which no library names.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME halvorn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Halvorn maintainers")
set(CPACK_PACKAGE_CONTACT "${HALVORN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "CT X-ray spectrum and bowtie filter estimation")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${HALVORN_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts (file dialogs, standard buttons) in Japanese come from Debian's Qt translations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The summary above is the synopsis line; this is the long description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Halvorn is for medical physicists who characterise the X-ray beam of a CT
scanner. From the focus to rotation-centre distance, the half-value layer
measured at the rotation centre and a lateral air-kerma profile it estimates
the photon spectrum at the rotation centre and at every measured point
(Tucker's tungsten-target model) and the aluminium-equivalent path length of
the scanner's bowtie filter along each ray.
.
The package holds the program (Japanese and English screens), the batch tool
halvorn-calc, the attenuation table, and the manual in Japanese and English.")
include(CPack)
