# Sourced by the benchmark scripts: install_missing PACKAGE... installs from
# Debian those of the packages that are not installed yet (through sudo when
# not root), quietly.
install_missing() {
  local missing=() package
  for package in "$@"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
  done
  ((${#missing[@]})) || return 0
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null
}
