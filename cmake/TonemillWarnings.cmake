# Warnings apply to the project's own targets through tonemill_warnings.
add_library(tonemill_warnings INTERFACE)
target_compile_options(tonemill_warnings INTERFACE
  $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra>
  $<$<AND:$<COMPILE_LANGUAGE:C,CXX>,$<BOOL:${TONEMILL_WERROR}>>:-Werror>)
