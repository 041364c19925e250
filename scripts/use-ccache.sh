# Sourced by the build scripts: where ccache is installed, compilations are
# cached, with paths taken relative to the checkout so that another checkout
# of the same sources hits the cache too. Nothing changes without ccache or
# when a compiler launcher is chosen already.
if command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
fi
