# Installs the manual pages and the documentation, and describes the Debian
# package `cpack -G DEB` builds (scripts/package): both programs, their manual
# pages, the README, the licence and a changelog, depending on exactly the
# runtime libraries the programs link.

set(VIVIRI_PACKAGE viviri-zovuro)
set(VIVIRI_MAINTAINER "The VIViriZovuro developers <viviri-zovuro@example.org>")

# The version: the project's own, with "+git<hash>" when the checkout is not
# the release's tagged commit (v<version>). A bare hash would not be a Debian
# version, and the version has to grow with each release.
set(VIVIRI_VERSION ${PROJECT_VERSION})
set(VIVIRI_VERSION_DATE "")
set(VIVIRI_CHANGE "Release ${PROJECT_VERSION}.")
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS ${CMAKE_SOURCE_DIR}/.git)
  execute_process(COMMAND ${GIT_EXECUTABLE} describe --exact-match --match v${PROJECT_VERSION} HEAD
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} RESULT_VARIABLE not_the_release
                  OUTPUT_QUIET ERROR_QUIET)
  execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%h%n%cd --date=format:%a,\ %d\ %b\ %Y\ %H:%M:%S\ %z
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} RESULT_VARIABLE no_commit
                  OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT no_commit)
    string(REPLACE "\n" ";" commit "${commit}")
    list(GET commit 0 VIVIRI_COMMIT)
    list(GET commit 1 VIVIRI_VERSION_DATE)
    if(not_the_release)
      string(APPEND VIVIRI_VERSION "+git${VIVIRI_COMMIT}")
      set(VIVIRI_CHANGE "Built from commit ${VIVIRI_COMMIT} of the project's repository.")
    endif()
  endif()
endif()
if(VIVIRI_VERSION_DATE STREQUAL "")
  string(TIMESTAMP VIVIRI_VERSION_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
endif()

# Manual pages, compressed as Debian keeps them (man reads them as they are).
set(VIVIRI_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${VIVIRI_PACKAGE})
set(manual_pages)
foreach(page VIViriZovuro.1 VIViriZovuro-compare.1)
  configure_file(${CMAKE_SOURCE_DIR}/docs/man/${page} ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
                     COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/man/${page} > ${CMAKE_BINARY_DIR}/man/${page}.gz
                     DEPENDS ${CMAKE_BINARY_DIR}/man/${page} VERBATIM)
  list(APPEND manual_pages ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()

# The Debian changelog and copyright file, from the version and the licence.
configure_file(${CMAKE_SOURCE_DIR}/cmake/changelog.in ${CMAKE_BINARY_DIR}/doc/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.gz
                   COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/doc/changelog > ${CMAKE_BINARY_DIR}/doc/changelog.gz
                   DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog VERBATIM)
file(READ ${CMAKE_SOURCE_DIR}/LICENSE licence)
string(REGEX REPLACE "\n$" "" licence "${licence}")
string(REGEX REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " VIVIRI_LICENCE " ${licence}")
configure_file(${CMAKE_SOURCE_DIR}/cmake/copyright.in ${CMAKE_BINARY_DIR}/doc/copyright @ONLY)

add_custom_target(documentation ALL DEPENDS ${manual_pages} ${CMAKE_BINARY_DIR}/doc/changelog.gz)
install(FILES ${manual_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_BINARY_DIR}/doc/copyright ${CMAKE_BINARY_DIR}/doc/changelog.gz
        DESTINATION ${VIVIRI_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${VIVIRI_PACKAGE})
set(CPACK_PACKAGE_VERSION ${VIVIRI_VERSION})
set(CPACK_PACKAGE_CONTACT ${VIVIRI_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converts development-tool reports into a results database")
# The extended description, in lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "VIViriZovuro reads one report of a development tool and writes one file:
an SQL script of its rows, a QAC text report or an HTML page. It reads test
results (CUnit, JUnit, GoogleTest, CTest, Unity, CppUTest, Catch2, doctest,
Boost.Test), coverage (CTC++, gcov, lcov, Cobertura, llvm-cov), compiler and
static-analysis warnings (GCC, Clang, MSVC, TI, IAR, cppcheck, SARIF), QAC
reports, GNU, Keil and IAR linker maps and clang-tidy output, and loads the
rows into a SQLite file or a PostgreSQL server itself.
.
VIViriZovuro-compare reads that database back: the run of one commit against
its baseline (new test failures, coverage lost, new warnings, QAC counts,
memory growth) as text, Markdown, JSON or an HTML page of the history, and
fails a build by rules.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The comparison reads the ancestry and the line moves from git when it can.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS git)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
