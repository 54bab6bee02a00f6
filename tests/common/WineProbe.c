/* The smallest Windows program: whether Wine can start this tree's programs
   on this host at all (some kernels run no 32-bit code). */
int main(void) { return 0; }
