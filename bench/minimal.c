#include <stdio.h>

/* Prints one line: the cost of starting a process and nothing more. */
int main(void) {
  puts("22/09/1792");
  return 0;
}
