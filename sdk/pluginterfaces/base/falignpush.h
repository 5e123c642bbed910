// Struct packing: natural alignment on Linux, so nothing to push.
