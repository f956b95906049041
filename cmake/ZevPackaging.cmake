# The Debian package (cpack -G DEB, or scripts/package.sh): everything
# `cmake --install` puts under /usr, named zev_<version>_<arch>.deb.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zev)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "ZEV developers <dev@zev.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
  "ZEV turns a folder of numbered transparent PNG frames into one H.264 MP4 whose
frames show the alpha as a grey mask on the left and the colour on black on the
right, so any ordinary video decoder can play transparent animations; H.265,
AV1 and VP9 (in MP4 or WebM) and a sound track on request. It comes as a
desktop window (zev), a command-line program (zev-cli) and a web player
(/usr/share/zev/web/zev-video.js).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
# dpkg-shlibdeps names the libraries the programs link (Qt, the C++ runtime).
# What they only run or load is named here: the tools behind the launchers in
# share/zev (built for /usr/bin/convert-im6.q16, which imagemagick brings in
# through imagemagick-6.q16, and /usr/bin/ffmpeg and ffprobe), Qt's platform plugins
# (libqt6gui6 only recommends them, yet the window cannot open without one),
# and a font for the window's Chinese text.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "imagemagick, ffmpeg, qt6-qpa-plugins, fonts-wqy-microhei")
# The window's "open the output folder" runs xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

include(CPack)
