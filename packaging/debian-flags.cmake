# Debian's compiler and linker flags (dpkg-buildflags with hardening=+all):
# stack protector, FORTIFY_SOURCE, full RELRO and immediate binding, so that
# the programs that are tested are the ones that go into the package. Paths
# of the source and build folders are mapped to "." in the debug information
# and in __FILE__, so two builds of the same commit in different folders give
# the same binaries. Off in a sanitizer build (FORTIFY_SOURCE and the
# sanitizers get in each other's way) and without dpkg-buildflags.
option(VEXA_DEBIAN_FLAGS "Build with Debian's hardening flags (dpkg-buildflags)" ON)
find_program(VEXA_DPKG_BUILDFLAGS dpkg-buildflags)
if(VEXA_DEBIAN_FLAGS AND VEXA_DPKG_BUILDFLAGS AND NOT VEXA_SANITIZE)
  set(VEXA_HARDENING_FLAGS)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            ${VEXA_DPKG_BUILDFLAGS} --get ${kind}
                    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    # The build type chooses the optimisation and the debug information; the
    # folders are mapped below, whatever folder cmake was started in.
    list(FILTER flags EXCLUDE REGEX "^(-O[0-3s]?|-g|-ffile-prefix-map=.*|-fdebug-prefix-map=.*)$")
    if(kind STREQUAL "LDFLAGS")
      add_link_options(${flags})
    else()
      add_compile_options(${flags})
    endif()
    list(APPEND VEXA_HARDENING_FLAGS ${flags})
  endforeach()
  # What later dpkg versions add to hardening=+all and hardening-check looks
  # for: stack clash protection and control-flow protection (IBT, SHSTK).
  include(CheckCXXCompilerFlag)
  foreach(flag -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "VEXA_HAS${flag}" has)
    check_cxx_compiler_flag(${flag} ${has})
    if(${has})
      add_compile_options(${flag})
      list(APPEND VEXA_HARDENING_FLAGS ${flag})
    endif()
  endforeach()
  # Debian's start files (crt1.o, crti.o) carry no IBT/SHSTK note, so the
  # linker would drop the programs' own; they hold no indirect branch that
  # the note could be wrong about.
  if(VEXA_HAS_fcf_protection)
    include(CheckLinkerFlag)
    check_linker_flag(CXX "-Wl,-z,ibt,-z,shstk" VEXA_LINKER_CET)
    if(VEXA_LINKER_CET)
      add_link_options(-Wl,-z,ibt,-z,shstk)
      list(APPEND VEXA_HARDENING_FLAGS -Wl,-z,ibt,-z,shstk)
    endif()
  endif()
  add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
  message(STATUS "Debian build flags: ${VEXA_HARDENING_FLAGS}")
endif()
