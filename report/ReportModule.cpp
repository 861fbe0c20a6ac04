// The reporting library of the program.
