# Run by cpack once the package is written. The three members of a .deb (an
# ar archive) take their modes from the builder's umask, where dpkg-deb
# writes 0644 whatever it is: so two builders with different umasks would
# make different bytes. Each member's header is 60 bytes, its mode at byte
# 40 and its size (decimal) at byte 48; the first follows the 8-byte magic,
# and each starts on an even byte.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  set(entete 8)
  foreach(membre debian-binary control.tar data.tar)
    math(EXPR champ_mode "${entete} + 40")
    math(EXPR champ_taille "${entete} + 48")
    file(READ "${deb}" taille OFFSET ${champ_taille} LIMIT 10)
    string(STRIP "${taille}" taille)
    if(NOT taille MATCHES "^[0-9]+$")
      message(FATAL_ERROR "${deb}: no ${membre} member where one should be")
    endif()
    execute_process(
      COMMAND sh -c "printf '100644  ' | dd of=\"$1\" bs=1 seek=$2 conv=notrunc status=none" sh
              "${deb}" ${champ_mode} COMMAND_ERROR_IS_FATAL ANY)
    math(EXPR entete "${entete} + 60 + ${taille} + ${taille} % 2")
  endforeach()
endforeach()
