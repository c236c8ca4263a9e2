#!/bin/sh
# The device's settings page, a CGI program: GET ?group=NAME shows the group
# as a form; a POST applies its fields one by one with kelbrinclient set,
# adds or deletes a dynamic group, or resets the group to its defaults.
# The server sets PATH (kelbrinclient, kelbrinctl), KELBRIN_STORE,
# PAGE_LEVEL (the security level the page acts with), PAGE_TOKEN_FILE (the
# form token) and PAGE_LIB (this folder).
set -u
LC_ALL=C
export LC_ALL
lib=$PAGE_LIB
level=$PAGE_LEVEL
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
nl='
'
: >"$tmp/messages"
: >"$tmp/notice"

# Every read and write at the page's level; mappings are left out, so that
# a mapped name and its target are not two fields of one value.
client() { kelbrinclient --nocgi --nolog --no-mapped --security "$level" "$@"; }

fail() { # STATUS TEXT: a short plain-text answer
    printf 'Status: %s\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n%s\n' "$1" "$2"
    exit 0
}
note() { printf '%s' "$*" | tr '\t\r\n' '   ' >>"$tmp/notice"; echo >>"$tmp/notice"; }
field_message() { printf '%s\t%s\n' "$1" "$(printf '%s' "$2" | tr '\t\r\n' '   ')" >>"$tmp/messages"; }
valid_name() { printf '%s\n' "$1" | grep -Eqx 'root(\.[A-Za-z0-9_]+)*' && [ "$1" = "${1%"$nl"*}" ]; }

group=root
form_field() { [ "$1" = group ] && group=$2; }
form_nul() { :; }
eval "$(printf '%s' "${QUERY_STRING:-}" | awk -f "$lib/form.awk")"
valid_name "$group" || fail "400 Bad Request" "not a group name: $group"

# The store's answer to a set, as a sentence beside the field.
refusal() { # NAME VALUE ERROR-FILE
    code=$(sed -n 's/^Error \(-[0-9]*\) setting.*/\1/p' "$3" | head -n 1)
    case $code in
    -9) echo "this page may not change it" ;;
    -10) echo "\"$2\" is refused: it must match $(kelbrinctl show "$1" | sed -n 's/^pattern: *//p')" ;;
    -11) echo "the value is longer than the store accepts" ;;
    *) echo "the store refused it: $(head -n 1 "$3")" ;;
    esac
}

apply_field() { # NAME VALUE
    valid_name "$1" || { note "not a parameter name: $1"; return; }
    current=$(client get "$1" - RAW 2>/dev/null && echo x) || {
        field_message "$1" "not a field of this page"
        return
    }
    current=${current%x}
    current=${current%"$nl"}
    [ "$current" = "$2" ] && return
    case $2 in
    # kelbrinclient takes these words as its legacy options wherever they stand.
    -nosync | -sigonly | -casesensitive | -port | -security)
        field_message "$1" "\"$2\" cannot be set from this page: kelbrinclient reads it as an option"
        return ;;
    esac
    if client set "$1" "$2" 2>"$tmp/error"; then
        applied=$((applied + 1))
    else
        field_message "$1" "$(refusal "$1" "$2" "$tmp/error")"
    fi
}

write_level() { kelbrinctl show "$1" 2>/dev/null | sed -n 's/^write level: *//p'; }
may_write() { set -- "$(write_level "$1")"; [ -n "$1" ] && [ "$1" -le "$level" ]; }

# The group's values back to their defaults and its dynamic groups removed,
# with kelbrinctl reset, which knows no levels: a value whose write level is
# above the page's is left as it is.
reset_group() {
    kelbrinctl reset --dry-run "$group" >"$tmp/plan" 2>"$tmp/error" ||
        { note "nothing was reset: $(head -n 1 "$tmp/error")"; return; }
    kept=0
    set --
    while read -r step name rest; do
        if [ "$step" = reset ] && ! may_write "$name"; then
            kept=$((kept + 1))
        else
            set -- "$@" "$name"
        fi
    done <"$tmp/plan"
    if [ $# -gt 0 ] && ! kelbrinctl reset "$@" >"$tmp/plan" 2>"$tmp/error"; then
        note "nothing was reset: $(head -n 1 "$tmp/error")"
        return
    fi
    [ $# -gt 0 ] || : >"$tmp/plan"
    note "reset: $(grep -c '^reset ' "$tmp/plan") values back to their defaults, $(grep -c '^remove ' "$tmp/plan") groups removed"
    [ "$kept" = 0 ] || note "$kept values that this page may not change were left as they are"
}

template_counts() { # the lines "TEMPLATE PREFIX COUNT MAX" of the group's templates
    kelbrinctl show "$group" 2>/dev/null |
        sed -n 's/^template for: *\([A-Za-z0-9_]*\) (prefix "\([A-Za-z0-9_]*\)"): \([0-9]*\) of at most \([0-9]*\)$/\1 \2 \3 \4/p'
}

add_group() { # TEMPLATE
    if client addgroup "$group" "$1" >"$tmp/added" 2>"$tmp/error"; then
        note "added $(cat "$tmp/added")"
        return
    fi
    full=$(template_counts | awk -v t="$1" '$1 == t && $3 >= $4 { print $4 }')
    if [ -n "$full" ]; then
        note "$group holds $full groups of the template $1, the most it allows: delete one to add another"
    else
        note "no group added: $(head -n 1 "$tmp/error")"
    fi
}

delete_group() { # NAME
    case $1 in "$group".*) ;; *) note "not a group under $group: $1"; return ;; esac
    if valid_name "$1" && client deletegroup "$1" 2>"$tmp/error"; then
        note "deleted $1"
    else
        note "$1 was not deleted: it is not a dynamic group of this page"
    fi
}

if [ "${REQUEST_METHOD:-GET}" = POST ]; then
    length=${CONTENT_LENGTH:-0}
    case $length in '' | *[!0-9]*) fail "400 Bad Request" "no request length" ;; esac
    [ "$length" -le 65536 ] || fail "413 Content Too Large" "a form of at most 65536 bytes"
    head -c "$length" >"$tmp/body"
    awk -f "$lib/form.awk" "$tmp/body" >"$tmp/fields"
    token='' action='' template='' child='' bad=''
    form_field() {
        case $1 in
        token) token=$2 ;; action) action=$2 ;; template) template=$2 ;; child) child=$2 ;;
        esac
    }
    form_nul() { bad=$1; }
    . "$tmp/fields"
    # Only a page this server made holds the token: another site cannot read it.
    [ -n "$token" ] && [ "$token" = "$(cat "$PAGE_TOKEN_FILE")" ] ||
        fail "403 Forbidden" "the form's token is missing or wrong: reload the page and submit it again"
    [ -z "$bad" ] || fail "400 Bad Request" "the field $bad holds a NUL byte"
    applied=0
    case $action in
    apply)
        form_field() { case $1 in v.*) apply_field "${1#v.}" "$2" ;; esac; }
        . "$tmp/fields"
        note "$applied changed" ;;
    add) add_group "$template" ;;
    delete) delete_group "$child" ;;
    reset) reset_group ;;
    *) fail "400 Bad Request" "unknown action: $action" ;;
    esac
fi

# The group as the page's rows, then each row's declaration. A listing
# with nothing in it fails, and so does one of a group without subgroups.
: >"$tmp/script"; : >"$tmp/names"; : >"$tmp/sections"; : >"$tmp/children"; : >"$tmp/top"
client getgroup "$group" "$tmp/script" SCRIPT getgroup "$group" "$tmp/names" NAMEVALUE \
    getgroup "$group" "$tmp/sections" NAMEVALUESECTIONS 2>"$tmp/error"
! grep -q '^#Error -3 ' "$tmp/error" || fail "404 Not Found" "no group $group here"
client getgrouplist "$group" "$tmp/children" RAW getgrouplist root "$tmp/top" RAW 2>/dev/null
awk -f "$lib/html.awk" -f "$lib/listing.awk" "$tmp/script" "$tmp/names" "$tmp/sections" >"$tmp/rows" ||
    fail "503 Service Unavailable" "the group changed while it was read: reload the page"
while IFS='	' read -r kind name rest; do
    [ "$kind" = plain ] || continue
    printf '%s\t%s\n' "$name" "$(write_level "$name")"
done <"$tmp/rows" >"$tmp/levels"
while read -r child; do
    kelbrinctl show "$group.$child" | grep -q '^kind: *dynamic group$' && echo "$child"
done <"$tmp/children" >"$tmp/dynamic"
template_counts >"$tmp/templates"

printf 'Content-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\n'
printf "Content-Security-Policy: default-src 'none'; style-src 'unsafe-inline'; form-action 'self'; frame-ancestors 'none'\r\n\r\n"
awk -v group="$group" -v level="$level" -v token="$(cat "$PAGE_TOKEN_FILE")" -f "$lib/html.awk" -f "$lib/page.awk" \
    "$tmp/top" "$tmp/children" "$tmp/dynamic" "$tmp/templates" "$tmp/levels" "$tmp/messages" \
    "$tmp/notice" "$tmp/rows"
