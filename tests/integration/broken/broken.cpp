// Exports nothing a host looks for.
extern "C" __attribute__ ((visibility ("default"))) int notAPluginEntry () { return 0; }
