# SQLite3 Multiple Ciphers, the engine of the runtime data store. Its amalgamation
# comes from a pinned npm package, fetched into the build tree at build time and
# verified against a pinned SHA-256, so no third-party source lives in the repo.
#
# Used three ways:
#   - include()d by the cross build: quilo_fetch_sqlite3mc() declares the fetch
#     and the one cross-compiled library quilo_sqlite3mc;
#   - include()d by the host tools: quilo_add_sqlite3mc_library() compiles the
#     already fetched sources with the same options, so both ends of the store
#     agree on its format;
#   - run with cmake -P by the fetch step itself (script mode, bottom of file).

set(QUILO_SQLITE3MC_PACKAGE better-sqlite3-multiple-ciphers)
set(QUILO_SQLITE3MC_VERSION 13.0.3)
set(QUILO_SQLITE3MC_SHA256 24a11e221247fc003f755ad0f82126bc6b0295d0be1c06f3cb3e48d9db8eb898)

if(CMAKE_SCRIPT_MODE_FILE)
  # Fetch step. Inputs: TARBALL_DIR (kept between builds), OUT_DIR.
  set(tarball ${TARBALL_DIR}/${QUILO_SQLITE3MC_PACKAGE}-${QUILO_SQLITE3MC_VERSION}.tgz)
  set(have_tarball FALSE)
  if(EXISTS ${tarball})
    file(SHA256 ${tarball} digest)
    if(digest STREQUAL QUILO_SQLITE3MC_SHA256)
      set(have_tarball TRUE)
    endif()
  endif()
  if(NOT have_tarball)
    file(MAKE_DIRECTORY ${TARBALL_DIR})
    file(REMOVE ${tarball})
    execute_process(
      COMMAND npm pack --silent ${QUILO_SQLITE3MC_PACKAGE}@${QUILO_SQLITE3MC_VERSION}
      WORKING_DIRECTORY ${TARBALL_DIR}
      RESULT_VARIABLE npm_result)
    if(NOT npm_result EQUAL 0 OR NOT EXISTS ${tarball})
      message(FATAL_ERROR "npm pack ${QUILO_SQLITE3MC_PACKAGE}@${QUILO_SQLITE3MC_VERSION} failed (${npm_result})")
    endif()
    file(SHA256 ${tarball} digest)
    if(NOT digest STREQUAL QUILO_SQLITE3MC_SHA256)
      file(REMOVE ${tarball})
      message(FATAL_ERROR "${tarball}: SHA-256 ${digest} is not the pinned ${QUILO_SQLITE3MC_SHA256}")
    endif()
  endif()
  set(unpack_dir ${OUT_DIR}.unpack)
  file(REMOVE_RECURSE ${unpack_dir})
  file(ARCHIVE_EXTRACT INPUT ${tarball} DESTINATION ${unpack_dir}
       PATTERNS package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h)
  file(MAKE_DIRECTORY ${OUT_DIR})
  foreach(name sqlite3.c sqlite3.h)
    if(NOT EXISTS ${unpack_dir}/package/deps/sqlite3/${name})
      message(FATAL_ERROR "${tarball} holds no deps/sqlite3/${name}")
    endif()
    file(COPY_FILE ${unpack_dir}/package/deps/sqlite3/${name} ${OUT_DIR}/${name})
  endforeach()
  file(REMOVE_RECURSE ${unpack_dir})
  return()
endif()

include_guard(GLOBAL)

# Compiles the amalgamation in `source_dir` into the static library `name`.
# The options pin the cipher, so a store written by the host packager opens in
# the Windows bridge.
function(quilo_add_sqlite3mc_library name source_dir)
  set_source_files_properties(${source_dir}/sqlite3.c PROPERTIES GENERATED TRUE)
  add_library(${name} STATIC ${source_dir}/sqlite3.c)
  target_include_directories(${name} SYSTEM PUBLIC ${source_dir})
  target_compile_definitions(${name} PRIVATE
    CODEC_TYPE=CODEC_TYPE_CHACHA20
    SQLITE_THREADSAFE=1
    SQLITE_DQS=0
    SQLITE_DEFAULT_MEMSTATUS=0
    SQLITE_OMIT_DEPRECATED
    SQLITE_OMIT_LOAD_EXTENSION
    SQLITE_OMIT_SHARED_CACHE
    SQLITE_USE_URI=0
    SQLITE_USER_AUTHENTICATION=0)
  # Third-party code: its warnings are not ours to fix. Always optimised, since
  # the cipher dominates the time of every store access.
  target_compile_options(${name} PRIVATE -w -O2)
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  if(CMAKE_SYSTEM_NAME STREQUAL "Windows" AND CMAKE_SYSTEM_PROCESSOR MATCHES "i[3-6]86")
    # The SIMD cipher code includes immintrin.h and needs SSE2 on 32-bit x86.
    target_compile_options(${name} PRIVATE -msse2)
  else()
    find_package(Threads REQUIRED)
    target_link_libraries(${name} PUBLIC Threads::Threads ${CMAKE_DL_LIBS})
  endif()
endfunction()

# Declares the fetch (once per build tree) and the cross-compiled library
# quilo_sqlite3mc. Sets QUILO_SQLITE3MC_DIR (global) to the folder that holds
# sqlite3.c and sqlite3.h once the target quilo_sqlite3mc_sources has run.
function(quilo_fetch_sqlite3mc)
  if(TARGET quilo_sqlite3mc_sources)
    return()
  endif()
  set(QUILO_SQLITE3MC_TARBALL_DIR ${CMAKE_BINARY_DIR}/_deps/sqlite3mc-download
      CACHE PATH "Where the SQLite3 Multiple Ciphers tarball is kept (may be pre-seeded for offline builds)")
  set(out_dir ${CMAKE_BINARY_DIR}/_deps/sqlite3mc-${QUILO_SQLITE3MC_VERSION})
  set(QUILO_SQLITE3MC_DIR ${out_dir} CACHE INTERNAL "SQLite3 Multiple Ciphers amalgamation folder")
  add_custom_command(
    OUTPUT ${out_dir}/sqlite3.c ${out_dir}/sqlite3.h
    COMMAND ${CMAKE_COMMAND} -DTARBALL_DIR=${QUILO_SQLITE3MC_TARBALL_DIR} -DOUT_DIR=${out_dir}
            -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    DEPENDS ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMENT "Fetching ${QUILO_SQLITE3MC_PACKAGE} ${QUILO_SQLITE3MC_VERSION} (SQLite3 Multiple Ciphers)"
    VERBATIM)
  add_custom_target(quilo_sqlite3mc_sources DEPENDS ${out_dir}/sqlite3.c ${out_dir}/sqlite3.h)
  quilo_add_sqlite3mc_library(quilo_sqlite3mc ${out_dir})
  add_dependencies(quilo_sqlite3mc quilo_sqlite3mc_sources)
endfunction()
