// The multiplication screens are built on this file.
