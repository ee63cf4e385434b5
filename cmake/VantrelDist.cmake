# The runnable folder's programs carry no debug information: Wine reads
# every section of an exe into memory when it loads it, so 12 MB of debug
# sections were 12 MB more working set for the running program. The
# information goes to <name>.debug in the target's build folder, which the
# exe names through a debug link, so a debugger still finds it.
function(vantrel_split_debug_info target)
  if(NOT CMAKE_BUILD_TYPE MATCHES "Deb")
    return()
  endif()
  find_program(VANTREL_OBJCOPY NAMES x86_64-w64-mingw32-objcopy objcopy)
  if(NOT VANTREL_OBJCOPY)
    return()
  endif()
  set(debug ${CMAKE_CURRENT_BINARY_DIR}/${target}.debug)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${VANTREL_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> ${debug}
    COMMAND ${VANTREL_OBJCOPY} --strip-debug --add-gnu-debuglink=${debug} $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
