// Struct packing: counterpart of falignpush.h, nothing to pop on Linux.
