# The tracked C++ sources and headers, one a line, for the formatter.
cxx_files() {
  git ls-files -- '*.cpp' '*.h' '*.cc' '*.hpp'
}
