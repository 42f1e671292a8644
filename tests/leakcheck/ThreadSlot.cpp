// A library loaded at run time with a variable of its own in each thread: the
// C library gives each thread that touches it a small block from malloc.
thread_local long slot = 1;

extern "C" long* threadSlot()
{
    return &slot;
}
