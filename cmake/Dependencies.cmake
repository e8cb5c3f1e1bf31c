# Third-party pieces, the same for both builds where possible.

option(NEXVALE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(NEXVALE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
option(NEXVALE_SANITIZE_THREAD "Build with ThreadSanitizer (the download engine's threads)" OFF)
if(NEXVALE_SANITIZE_THREAD)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(WIN32)
  add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN
                          _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800)
  # Everything static: the executable must start in a clean prefix with nothing beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # A small download: drop unused code and the symbol tables from release builds.
  add_compile_options(-ffunction-sections -fdata-sections)
  add_link_options(-Wl,--gc-sections $<$<CONFIG:MinSizeRel,Release>:-s>)
  # Link-time optimisation for the setup executables only (see nexvale_link_for_size). Objects
  # are "fat", carrying ordinary code beside the optimiser's form, so every other program links
  # them as before, without the optimising link's time.
  option(NEXVALE_LTO "Link the setup executables with link-time optimisation (release builds)" ON)
  if(NEXVALE_LTO)
    add_compile_options("$<$<CONFIG:MinSizeRel,Release>:-flto;-ffat-lto-objects>")
    add_link_options("$<$<CONFIG:MinSizeRel,Release>:-fno-lto>")
  endif()
endif()

# The size report (scripts/size-report.sh) reads where each executable's bytes come from.
option(NEXVALE_LINKER_MAPS "Write the linker's map of every executable into maps/ of the build" OFF)
if(NEXVALE_LINKER_MAPS)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/maps)
  add_link_options(-Wl,-Map=${CMAKE_BINARY_DIR}/maps/$<TARGET_PROPERTY:NAME>.map)
endif()

# Header-only libraries from the host. The cross compiler must never see /usr/include as a
# whole, so each library gets a link in a folder of the build that is put on the path instead.
set(NEXVALE_HEADER_SHIM ${CMAKE_BINARY_DIR}/include-shim)
file(MAKE_DIRECTORY ${NEXVALE_HEADER_SHIM})
foreach(dir boost rapidjson stb)
  if(NOT EXISTS /usr/include/${dir})
    message(FATAL_ERROR "/usr/include/${dir} is missing: run scripts/setup.sh")
  endif()
  file(CREATE_LINK /usr/include/${dir} ${NEXVALE_HEADER_SHIM}/${dir} SYMBOLIC)
endforeach()
add_library(nexvale_host_headers INTERFACE)
target_include_directories(nexvale_host_headers SYSTEM INTERFACE ${NEXVALE_HEADER_SHIM})

# zlib: Debian's libz-mingw-w64-dev for Windows, the system one natively.
find_package(ZLIB REQUIRED)

# OpenSSL: natively the system's; for Windows the static build scripts/setup.sh caches.
if(WIN32)
  set(NEXVALE_OPENSSL_POINTER /var/cache/nexvale-build/openssl-${NEXVALE_MINGW_TRIPLE}.current)
  if(NOT NEXVALE_OPENSSL_ROOT AND EXISTS ${NEXVALE_OPENSSL_POINTER})
    file(STRINGS ${NEXVALE_OPENSSL_POINTER} NEXVALE_OPENSSL_ROOT LIMIT_COUNT 1)
    # A new OpenSSL configuration (setup.sh moves the pointer) reconfigures the build.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${NEXVALE_OPENSSL_POINTER})
  endif()
  if(NOT EXISTS "${NEXVALE_OPENSSL_ROOT}/lib/libssl.a")
    message(FATAL_ERROR "static OpenSSL for ${NEXVALE_MINGW_TRIPLE} not found: run scripts/setup.sh")
  endif()
  add_library(OpenSSL::Crypto STATIC IMPORTED)
  set_target_properties(OpenSSL::Crypto PROPERTIES
    IMPORTED_LOCATION ${NEXVALE_OPENSSL_ROOT}/lib/libcrypto.a
    INTERFACE_INCLUDE_DIRECTORIES ${NEXVALE_OPENSSL_ROOT}/include
    INTERFACE_LINK_LIBRARIES "ws2_32;crypt32;bcrypt"
    # Every program linking it reads no OpenSSL configuration file (see the source).
    INTERFACE_SOURCES ${PROJECT_SOURCE_DIR}/cmake/openssl/NoConfigurationFile.cpp)
  add_library(OpenSSL::SSL STATIC IMPORTED)
  set_target_properties(OpenSSL::SSL PROPERTIES
    IMPORTED_LOCATION ${NEXVALE_OPENSSL_ROOT}/lib/libssl.a
    INTERFACE_LINK_LIBRARIES OpenSSL::Crypto)
else()
  find_package(OpenSSL 3 REQUIRED)
endif()

# GoogleTest, compiled from Debian's sources with this build's own flags.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)
