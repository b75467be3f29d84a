// Placeholder until the command-line tests are written.
