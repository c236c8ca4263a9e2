#!/usr/bin/env python3
"""Prints the input fields of the HTML page on standard input, one per line,
as type, name and value separated by "|"."""
import html.parser
import sys


class FieldParser(html.parser.HTMLParser):
    def handle_starttag(self, tag, attrs):
        if tag == "input":
            attributes = dict(attrs)
            print(attributes.get("type"), attributes.get("name"), attributes.get("value"), sep="|")


parser = FieldParser()
parser.feed(sys.stdin.read())
parser.close()
