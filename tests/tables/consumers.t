# Shells read SCRIPT, PHP its files and an HTML parser FORM fields: every byte comes back.
store: consumers.json

test: sh, PHP and an HTML parser recover the values they can hold
sh: awk 'BEGIN { for (i = 1; i < 256; i++) printf "%c", i }' >all && tr -d '$' <all >nodollar && tr -d "'" <all >noquote && kelbrinclient set root.T.All "$(cat all)" set root.T.NoDollar "$(cat nodollar)" set root.T.NoQuote "$(cat noquote)" getgroup root.T out.sh SCRIPT getgroup root.T out.php PHP get root.T.NoDollar single.php PHP getgroup root.T out.html FORM
sh: for shell in dash bash; do $shell -c '. ./out.sh && printf %s "$root_T_All"' | cmp - all && echo $shell; done
out: dash
out: bash
sh: php -d error_reporting=0 -r 'include "out.php"; echo $root_T_NoDollar; $root_T_NoDollar = ""; include "single.php"; echo $root_T_NoDollar;' >got && cat nodollar nodollar | cmp - got && echo php
out: php
sh: python3 -c 'import html.parser as h; p = h.HTMLParser(); p.handle_starttag = lambda tag, a: dict(a)["name"] == "conf_T_NoQuote" and open("got", "wb").write(dict(a)["value"].encode("latin-1")); p.feed(open("out.html", "rb").read().decode("latin-1"))' && cmp got noquote && echo html
out: html

test: what PHP and FORM cannot carry: PHP runs the code a value's ${...} names, a quote ends a FORM value
sh: kelbrinclient set root.T.All "\${system('echo ran')}" get root.T.All out.php PHP && php -d error_reporting=0 -r 'include "out.php"; echo "[$root_T_All]\n";'
out: ran
out: []
sh: kelbrinclient set root.T.All "x' onfocus=go() x='" get root.T.All - FORM | python3 -c 'import html.parser as h, sys; p = h.HTMLParser(); p.handle_starttag = lambda tag, a: print(dict(a)["value"], dict(a)["onfocus"]); p.feed(sys.stdin.read())'
out: x go()
