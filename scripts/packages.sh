# Installs the Debian packages Tavlor needs that are missing (sourced by the
# other scripts). with_ui=1 adds Qt. apt-get needs root.
tavlor_install_packages() {
    local with_ui=$1
    local packages=(cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
        libcurl4-openssl-dev libssl-dev libpugixml-dev libsqlite3-dev libcpp-httplib-dev
        libfreexl-dev python3-xlrd poppler-utils)
    if [ "$with_ui" = 1 ]; then
        # Qt's French texts; a real X server and window manager for the tests
        # that drive the program with real events.
        packages+=(qt6-base-dev libxcb1-dev qt6-translations-l10n xvfb openbox xdotool x11-utils)
    fi
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        if [ "$(id -u)" -ne 0 ]; then
            echo "Missing Debian packages: ${missing[*]}; run this script as root to install them." >&2
            return 1
        fi
        apt-get update
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}
