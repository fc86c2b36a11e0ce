# The hardening distributions build their programs with, for the Linux and Windows programs.
#
# On Linux these are the flags Debian's dpkg-buildflags gives with hardening=+all (its newer
# versions also add the last two): checked buffer functions (fortify), stack canaries, a
# read-only relocation table resolved at start (relro and bindnow), a position-independent
# executable, probed large stack frames and control-flow protection. The Windows exe gets what
# MinGW can do of the same: canaries and fortify from a static libssp, so it still needs no DLL,
# and an image Windows may place anywhere (ASLR, high-entropy ASLR) with no executable data
# (DEP). A flag the builder's own CMAKE_CXX_FLAGS or linker flags already set, as a
# distribution's package build does, is left to them.
#
# The sanitizers bring their own checks, and fortified functions would bypass AddressSanitizer's
# interceptors; a WebAssembly build has none of these mechanisms.
if(VOLARIN_SANITIZE OR VOLARIN_FUZZ OR EMSCRIPTEN)
  set(volarin_hardening_default OFF)
else()
  set(volarin_hardening_default ON)
endif()
option(VOLARIN_HARDENING "Build with the distributions' hardening flags"
       ${volarin_hardening_default})

include(CheckCXXCompilerFlag)

# Compiles with `flag` unless the builder's flags already hold `pattern`.
function(volarin_harden_compile pattern flag)
  if(NOT CMAKE_CXX_FLAGS MATCHES "${pattern}")
    add_compile_options(${flag})
  endif()
endfunction()

# Links the programs with `flags` unless the builder's linker flags already hold `pattern`.
function(volarin_harden_link pattern)
  if(NOT CMAKE_EXE_LINKER_FLAGS MATCHES "${pattern}")
    add_link_options(${ARGN})
  endif()
endfunction()

if(VOLARIN_HARDENING)
  # Warnings only: a user's build never fails on a warning.
  volarin_harden_compile(-Wformat -Wformat)
  volarin_harden_compile(-Wformat-security -Wformat-security)
  volarin_harden_compile(-fstack-protector -fstack-protector-strong)
  # Fortify needs the optimiser (glibc warns without it): every build type but Debug.
  volarin_harden_compile(_FORTIFY_SOURCE $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  if(WIN32)
    # The canaries and the checked functions live in libssp, linked statically with -static.
    volarin_harden_link(-fstack-protector -fstack-protector-strong)
    volarin_harden_link(--dynamicbase -Wl,--dynamicbase -Wl,--nxcompat -Wl,--high-entropy-va)
  else()
    # -fPIE rather than CMake's position-independent code, which compiles the static libraries
    # with -fPIC and so keeps the compiler from inlining across their global functions.
    volarin_harden_compile(-fPIE -fPIE)
    volarin_harden_link("-pie" $<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:-pie>)
    volarin_harden_link(relro -Wl,-z,relro)
    volarin_harden_link("-z,now" -Wl,-z,now)
    foreach(flag -fstack-clash-protection -fcf-protection)
      string(MAKE_C_IDENTIFIER "volarin_has${flag}" supported)
      check_cxx_compiler_flag(${flag} ${supported})
      if(${supported})
        volarin_harden_compile(${flag} ${flag})
      endif()
    endforeach()
  endif()
endif()
