# Sourced by the mingw build scripts: fetches Debian source packages with apt-get
# source, through deb-src entries for the machine's own Debian suites kept in a
# private folder, so that /etc/apt and the machine's package lists are left alone.
#
# debian_source WORK DEST PACKAGE=VERSION...
#   WORK is a scratch folder for apt's private state; the unpacked trees land in DEST.

as_root() {
    if [[ $(id -u) -ne 0 ]]; then sudo "$@"; else "$@"; fi
}

# install_missing PACKAGE...: installs those of the Debian packages that are missing.
install_missing() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if ((${#missing[@]} > 0)); then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" >/dev/null
    fi
}

debian_source() {
    local work=$1 dest=$2
    shift 2
    mkdir -p "$work/apt/sources.list.d" "$work/apt/lists/partial" \
        "$work/apt/cache/archives/partial" "$dest"
    # apt downloads as its sandbox user, who must be able to write where the files go.
    chmod 755 "$work"
    if id _apt >/dev/null 2>&1; then
        chown _apt "$dest"
    fi

    # deb-src twins of the machine's Debian entries (deb822 .sources and one-line .list
    # files), for its own release's suites only: third-party repositories publish no
    # sources, and other releases carry other versions.
    # shellcheck disable=SC1091
    local codename file types uris suites components signed enabled line key value
    local type rest options uri suite out
    local -a sources lists apt_private
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    is_debian() { [[ $1 == *debian* ]]; }
    is_own_suite() { [[ $1 == "$codename" || $1 == "$codename"[-/]* ]]; }

    shopt -s nullglob
    sources=(/etc/apt/sources.list.d/*.sources)
    lists=(/etc/apt/sources.list.d/*.list)
    [[ -f /etc/apt/sources.list ]] && lists+=(/etc/apt/sources.list)
    shopt -u nullglob

    out=$work/apt/sources.list.d/debian-src.sources
    : >"$out"
    emit() { # uris suites components signed_by
        local suite own=()
        for suite in $2; do
            is_own_suite "$suite" && own+=("$suite")
        done
        ((${#own[@]} > 0)) || return 0
        is_debian "$1" || return 0
        {
            echo "Types: deb-src"
            echo "URIs: $1"
            echo "Suites: ${own[*]}"
            echo "Components: $3"
            [[ -n $4 ]] && echo "Signed-By: $4"
            echo
        } >>"$out"
    }
    for file in ${sources[@]+"${sources[@]}"}; do
        # One stanza per paragraph; continuation lines (an inline key) are not needed
        # for the fields read here.
        types="" uris="" suites="" components="" signed="" enabled=yes
        while IFS= read -r line || [[ -n $line ]]; do
            [[ $line =~ ^[[:space:]]*# ]] && continue
            if [[ -z ${line//[[:space:]]/} ]]; then
                [[ $types == *deb* && $enabled != no ]] && emit "$uris" "$suites" "$components" "$signed"
                types="" uris="" suites="" components="" signed="" enabled=yes
                continue
            fi
            key=${line%%:*}
            read -r value <<<"${line#*:}"
            case ${key,,} in
                types) types=$value ;;
                uris) uris=$value ;;
                suites) suites=$value ;;
                components) components=$value ;;
                signed-by) signed=$value ;;
                enabled) enabled=$value ;;
            esac
        done <"$file"
        [[ $types == *deb* && $enabled != no ]] && emit "$uris" "$suites" "$components" "$signed"
    done
    for file in ${lists[@]+"${lists[@]}"}; do
        while read -r type rest; do
            [[ $type == deb ]] || continue
            options=""
            if [[ $rest == \[* ]]; then
                options=${rest%%]*}
                rest=${rest#*]}
            fi
            read -r uri suite components <<<"$rest"
            signed=$(sed -nE 's/.*signed-by=([^ ]+).*/\1/p' <<<"$options")
            emit "$uri" "$suite" "$components" "$signed"
        done <"$file"
    done
    if [[ ! -s $out ]]; then
        echo "debian-source: no Debian $codename entry in /etc/apt to take sources from" >&2
        return 1
    fi

    apt_private=(
        -o Dir::Etc::SourceList=/dev/null
        -o Dir::Etc::SourceParts="$work/apt/sources.list.d"
        -o Dir::State::Lists="$work/apt/lists"
        -o Dir::Cache="$work/apt/cache"
        -o APT::Get::List-Cleanup=false
    )
    apt-get "${apt_private[@]}" update -qq
    (cd "$dest" && apt-get "${apt_private[@]}" source -qq "$@" >/dev/null)
}
