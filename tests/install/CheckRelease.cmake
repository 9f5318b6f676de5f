# SPDX-License-Identifier: MIT
# The newest release in the AppStream metainfo (listed first) is the project's version, so a
# version bump cannot forget the release notes.
file(READ ${METAINFO} text)
if(NOT text MATCHES "<release version=\"([^\"]+)\"")
  message(FATAL_ERROR "${METAINFO}: no <release>")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  message(FATAL_ERROR "${METAINFO}: newest release ${CMAKE_MATCH_1}, project version ${VERSION}")
endif()
