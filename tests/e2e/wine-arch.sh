#!/bin/sh
# Prints the architecture of the Windows programs that Wine runs on this
# machine: i686 where Wine's 32-bit loader starts, else x86_64. Some kernels
# run no 32-bit code at all (execve of an i386 program fails with "Exec
# format error", and so does any 32-bit code segment); there the Wine tests
# run the 64-bit build of the same programs.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo i686
else
  echo x86_64
fi
